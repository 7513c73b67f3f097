#pragma once

// The table form shared by every facade. A facade's profiles and operations are listed once,
// in a .def file beside its headers, with these entries:
//
//   SERVICE_PROFILE(Type, m_Member)                the implementation owns m_Member, a profile
//                                                  or grouping on the facade's root path
//   SERVICE_GET(Op, Type, m_Member, Accessor)      Op(Type&): m_Member.Accessor(value)
//   SERVICE_SET(Op, Type, m_Member, Accessor)      Op(const Type&): m_Member.Accessor(value)
//   SERVICE_LIST(Op, Handle, m_Member, List)       Op(std::vector<Handle>&): one handle per
//                                                  object of m_Member.Get_List_List; and
//                                                  OpOtherThan(known, identities, handles):
//                                                  the instance identity of every object,
//                                                  and handles only for the objects whose
//                                                  identity is not in `known`
//   SERVICE_SINGLE(Op, Handle, m_Member, List)     Op(Handle&): the one object of that list
//   SERVICE_SAME_PATH(Op, Handle)                  Op(Handle&): a facade of another kind on
//                                                  this facade's root path
//   SERVICE_ACTION(Op, (Params...), (Args...), m_Member, Call(...))
//                                                  Op(Params...): m_Member.Call(...), an
//                                                  action of the grouping
//   SERVICE_PATH_ACTION(Op, Handle, m_Member, Action)
//                                                  Op(Handle&): the facade on the path that
//                                                  m_Member.Action(path) answers
//   SERVICE_CUSTOM(Op, (Params...), (Args...))     Op(Params...), written by hand in the
//                                                  implementation's _Custom source
//
// Every handle operation runs through ServiceCall (111 for an empty handle, 113 for a removed
// service, exceptions to 109); every implementation operation takes the service lock.
//
// The handle header expands the table inside the class body (after a forward declaration of
// the implementation class):
//     #define MERROW_SERVICE_CLASS Service_Disk
//     #define MERROW_SERVICE_TABLE "user_agent/services/Service_Disk.def"
//     #include "user_agent/services/ServiceHandleDeclarations.inc"
// its source the same with ServiceHandleDefinitions.inc; the implementation's header and
// source likewise with ServiceImplDeclarations.inc and ServiceImplDefinitions.inc.

#include "user_agent/base/MerrowReturnValue.h"
#include "user_agent/base/MerrowUserAgentEnums.h"
#include "user_agent/base/StorageSize.h"

#include <string>
#include <unordered_set>
#include <vector>

#define MERROW_SERVICE_TEXT2(name) #name
#define MERROW_SERVICE_TEXT(name) MERROW_SERVICE_TEXT2(name)
#define MERROW_SERVICE_CONCAT2(a, b) a##b
#define MERROW_SERVICE_CONCAT(a, b) MERROW_SERVICE_CONCAT2(a, b)
#define MERROW_SERVICE_IMPL MERROW_SERVICE_CONCAT(MERROW_SERVICE_CLASS, Impl)
// The function name the facade boundary traces: "Merrow::UserAgent::Service_Disk::GetPool".
#define MERROW_SERVICE_FUNCTION(op)                                                           \
    "Merrow::UserAgent::" MERROW_SERVICE_TEXT(MERROW_SERVICE_CLASS) "::" #op
// Strips the parentheses of a SERVICE_CUSTOM argument list.
#define MERROW_SERVICE_UNPAREN(...) __VA_ARGS__

#pragma once

// The trace facility: one record per MWTRACE statement, entry/exit records per MWSCOPE.
//
//   MWTRACE(3, TC_ERROR_EXCEPTION_CAUGHT) << "request failed: " << rc << MWENDREC;
//   MWSCOPE("");                        // entry/exit at verbosity 5; the argument text
//                                       // must outlive the scope (a literal or c_str())
//   MWSCOPE_OBJ(this, "");              // adds className() and description() of this
//
// A record that the sink could never write is not built at all; the stream insertions of
// such a statement are not evaluated.

#include "trace/ScopeTracer.h"
#include "trace/TraceAwareClass.h"
#include "trace/TraceCategories.h"
#include "trace/TraceSinks.h"
#include "trace/TraceStreamClass.h"

#define MW_TRACE_CONCAT_INNER(a, b) a##b
#define MW_TRACE_CONCAT(a, b) MW_TRACE_CONCAT_INNER(a, b)

// A for statement rather than if/else, so that an unbraced "if (x) MWTRACE(...) << ...;"
// followed by an else stays unambiguous.
#define MWTRACE(verbosity, category)                                                          \
    for (bool mwTraceWanted_ = ::Merrow::Trace::getThreadTraceStream().wants(verbosity);      \
         mwTraceWanted_; mwTraceWanted_ = false)                                              \
        ::Merrow::Trace::getThreadTraceStream().beginRecord(__FILE__, __LINE__,               \
                                                            __PRETTY_FUNCTION__, (verbosity), \
                                                            (category))

#define MWSCOPE(arguments)                                                                    \
    ::Merrow::Trace::ScopeTracer MW_TRACE_CONCAT(mwScopeTracer_, __LINE__)(                   \
        (arguments), __FILE__, __LINE__, __PRETTY_FUNCTION__)

#define MWSCOPE_OBJ(object, arguments)                                                        \
    ::Merrow::Trace::ScopeTracer MW_TRACE_CONCAT(mwScopeTracer_, __LINE__)(                   \
        true, (object), __FILE__, __LINE__, __PRETTY_FUNCTION__, (arguments),                 \
        ::Merrow::Trace::TV_DETAIL, ::Merrow::Trace::TC_INFO_ENTRY_EXIT)

#define MWSCOPE_CAT(verbosity, category, arguments)                                           \
    ::Merrow::Trace::ScopeTracer MW_TRACE_CONCAT(mwScopeTracer_, __LINE__)(                   \
        true, nullptr, __FILE__, __LINE__, __PRETTY_FUNCTION__, (arguments), (verbosity),     \
        (category))

using Merrow::Trace::MWENDLINE;
using Merrow::Trace::MWENDREC;

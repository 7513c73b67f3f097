// The interface of the resource library libOrv_Resources.so: product and vendor texts by
// string id, for the program to load at run time (ResourceLibrary).
#pragma once

#define ORV_RESOURCES_STRING_FUNCTION "OrvResources_LoadString"

extern "C" {

// The UTF-16 text of string `id` (terminated, owned by the library and valid while it is
// loaded), or null for an id the library does not have.
using OrvResourcesLoadStringFunction = const char16_t* (*)(unsigned int id);

__attribute__((visibility("default"))) const char16_t* OrvResources_LoadString(unsigned int id);
}

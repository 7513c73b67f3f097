#pragma once

// Categories are dotted texts starting with "TC"; sinks compare them as text.
namespace Merrow::Trace {

inline constexpr const char* TC_ERROR_ASSERTION_FAILURE = "TC.Error.FATAL.AssertionFailure";
inline constexpr const char* TC_ERROR_PEGASUS_CALL_FAILED = "TC.Error.FATAL.PegasusCallFailed";
inline constexpr const char* TC_ERROR_EXCEPTION_CAUGHT = "TC.Error.FATAL.ExceptionCaught";
inline constexpr const char* TC_ERROR_INTERNAL_API_FAILURE = "TC.Error.FATAL.InternalAPIFailure";
inline constexpr const char* TC_ERROR_EXTERNAL_API_FAILURE = "TC.Error.FATAL.ExternalAPIFailure";
inline constexpr const char* TC_ERROR_RECOVERABLE = "TC.Error.Non-fatal.Recoverable";
inline constexpr const char* TC_ERROR_WARNING = "TC.Error.Non-fatal.Warning";
inline constexpr const char* TC_ERROR_NONFATAL_EXCEPTION_CAUGHT = "TC.Error.Non-fatal.ExceptionCaught";
inline constexpr const char* TC_INFO = "TC.Info";
inline constexpr const char* TC_INFO_ENTRY_EXIT = "TC.Info.Codepath.EntryExit";
inline constexpr const char* TC_INFO_DEBUG = "TC.Info.Codepath.Debug";
inline constexpr const char* TC_INFO_OTHER = "TC.Info.Other";
inline constexpr const char* TC_UNKNOWN = "TC.UNKNOWN";

inline constexpr const char* TC_VDS_SUBSYSTEM = "TC.VDS.Subsystem";
inline constexpr const char* TC_VDS_OBJECT_BASE = "TC.VDS.ObjectBase";
inline constexpr const char* TC_VDS_DISK = "TC.VDS.Disk";
inline constexpr const char* TC_VDS_CONTROLLER = "TC.VDS.Controller";
inline constexpr const char* TC_VDS_LUN = "TC.VDS.LUN";
inline constexpr const char* TC_VDS_PORTAL = "TC.VDS.Portal";
inline constexpr const char* TC_VDS_PORTAL_GROUP = "TC.VDS.PortalGroup";
inline constexpr const char* TC_VDS_TARGET = "TC.VDS.Target";
inline constexpr const char* TC_VDS_MODULE = "TC.VDS.Module";
inline constexpr const char* TC_VDS_PROVIDER = "TC.VDS.Provider";
inline constexpr const char* TC_VDS_NOTIFIER = "TC.VDS.Notifier";
inline constexpr const char* TC_VDS_UNSUPPORTED = "TC.VDS.Unsupported";
inline constexpr const char* TC_VDS_OBJECT_LIST_BASE = "TC.VDS.ObjectListBase";
inline constexpr const char* TC_VDS_METHOD = "TC.VDS.Method";
inline constexpr const char* TC_VDS_LOCK = "TC.VDS.Lock";
inline constexpr const char* TC_VDS_GET_OBJECT = "TC.VDS.GetObject";
inline constexpr const char* TC_VDS_ENUM = "TC.VDS.Enum";

// Verbosities: smaller is more important.
inline constexpr unsigned TV_ERROR = 1;
inline constexpr unsigned TV_SEVERE = 2;
inline constexpr unsigned TV_WARNING = 3;
inline constexpr unsigned TV_INFO = 4;
inline constexpr unsigned TV_DETAIL = 5;

} // namespace Merrow::Trace

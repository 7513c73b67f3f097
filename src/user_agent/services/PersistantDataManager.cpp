#include "user_agent/services/PersistantDataManager.h"

#include "cim/http/CIMTransportExceptions.h"
#include "cim/value/CIMException.h"
#include "trace/Trace.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/objects/wrappers/Merrow_StorageConfigurationService.h"

#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace Merrow::UserAgent {

using namespace Merrow::Trace;

namespace {

constexpr std::uint16_t kFactoryDefault = 2;
constexpr std::uint16_t kMostlyDefault = 3;
constexpr std::uint16_t kReplace = 4;
constexpr std::uint16_t kConditionalReplace = 5;
constexpr std::uint32_t kAppliedRestartNeeded = 1;
constexpr std::uint32_t kApplied = 2;
constexpr mode_t kNewFileMode = 0644;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

MerrowReturnValue FileFailure(const char* message) {
    return MerrowReturnValue(MerrowReturnValue::UA_E_REQUEST_FAILED, message);
}

MerrowReturnValue ArrayFailure(std::uint32_t execRtn) {
    MerrowReturnValue failure(MerrowReturnValue::UA_E_REQUEST_FAILED);
    failure.setFailureCode(static_cast<std::int32_t>(execRtn));
    return failure;
}

// A temporary file beside `target`, removed again unless Commit renamed it over the target.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& target) : m_target(target), m_path(target + ".XXXXXX") {
        const int descriptor = ::mkstemp(m_path.data());
        if (descriptor < 0)
            return;
        struct stat existing {};
        ::fchmod(descriptor, ::stat(target.c_str(), &existing) == 0 ? existing.st_mode & 07777
                                                                     : kNewFileMode);
        m_file.reset(::fdopen(descriptor, "w"));
        if (!m_file)
            ::close(descriptor);
    }
    ~TemporaryFile() {
        m_file.reset();
        if (!m_committed && !m_path.empty())
            std::remove(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    std::FILE* get() const { return m_file.get(); }
    // Closes the file (flushing it) and renames it over the target.
    bool Commit() {
        std::FILE* file = m_file.release();
        if (std::fclose(file) != 0)
            return false;
        m_committed = std::rename(m_path.c_str(), m_target.c_str()) == 0;
        return m_committed;
    }

private:
    std::string m_target;
    std::string m_path;
    File m_file;
    bool m_committed = false;
};

// The whole content of the file at `filePath`, or the failure of the step that stopped.
MerrowReturnValue ReadLocalFile(const std::string& filePath, std::string& content) {
    File file(std::fopen(filePath.c_str(), "r"));
    if (!file)
        return FileFailure("Cannot open local file for reading");
    if (std::fseek(file.get(), 0, SEEK_END) != 0)
        return FileFailure("Cannot seek to end-of-file for local file");
    const long size = std::ftell(file.get());
    if (size < 1)
        return FileFailure("Invalid file size for local file");
    if (std::fseek(file.get(), 0, SEEK_SET) != 0)
        return FileFailure("Cannot seek to begin-of-file for local file");
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
    if (std::fread(buffer.data(), 1, static_cast<std::size_t>(size), file.get()) !=
        static_cast<std::size_t>(size))
        return FileFailure("Read failed for local file");
    content.assign(buffer.data(), static_cast<std::size_t>(size));
    return MerrowReturnValue();
}

} // namespace

PersistantDataManager::PersistantDataManager(CorvaneConnectionWeakRef connection,
                                             ForcedRestart forcedRestart)
    : m_connection(std::move(connection)), m_forcedRestart(std::move(forcedRestart)) {}

void PersistantDataManager::description(std::string& text) const {
    text = "Service ObjectID=N/A rootObjectPath=N/A";
}

MerrowReturnValue PersistantDataManager::SaveCvnConfiguration(const std::string& filePath) {
    MWSCOPE_OBJ(this, filePath.c_str());
    ScopedLock lock(*this);
    return Guarded([&] { return Save(filePath); });
}

MerrowReturnValue PersistantDataManager::RestoreCvnConfiguration(const std::string& filePath,
                                                                 bool onlyIfSameChassis) {
    MWSCOPE_OBJ(this, filePath.c_str());
    ScopedLock lock(*this);
    return Guarded([&] { return Restore(filePath, onlyIfSameChassis); });
}

MerrowReturnValue PersistantDataManager::RestoreCvnConfigurationToFactoryDefaults(
    bool excludeResettingManagementPortAddress) {
    MWSCOPE_OBJ(this, excludeResettingManagementPortAddress ? "excludeManagementPort" : "");
    ScopedLock lock(*this);
    return Guarded([&] {
        return Write("", excludeResettingManagementPortAddress ? kMostlyDefault : kFactoryDefault);
    });
}

MerrowReturnValue PersistantDataManager::Save(const std::string& filePath) {
    Merrow_StorageConfigurationService service(nullptr);
    service.SetConnection(m_connection);
    std::string data;
    const std::uint32_t execRtn = service.ExecReadPersistenceData(data);
    if (execRtn != 0)
        return ArrayFailure(execRtn);
    TemporaryFile file(filePath);
    if (!file.get())
        return FileFailure("Cannot open local file for writing");
    if (std::fwrite(data.data(), 1, data.size(), file.get()) < data.size())
        return FileFailure("Write failed for local file");
    if (!file.Commit())
        return FileFailure("Write failed for local file");
    return MerrowReturnValue();
}

MerrowReturnValue PersistantDataManager::Restore(const std::string& filePath,
                                                 bool onlyIfSameChassis) {
    std::string content;
    const MerrowReturnValue read = ReadLocalFile(filePath, content);
    if (read.isFailure())
        return read;
    return Write(content, onlyIfSameChassis ? kConditionalReplace : kReplace);
}

MerrowReturnValue PersistantDataManager::Write(const std::string& data,
                                               std::uint16_t persistenceSetting) {
    Merrow_StorageConfigurationService service(nullptr);
    service.SetConnection(m_connection);
    const std::uint32_t execRtn = service.ExecWritePersistenceData(data, persistenceSetting);
    if (execRtn == kAppliedRestartNeeded)
        return m_forcedRestart();
    if (execRtn == kApplied)
        return MerrowReturnValue(MerrowReturnValue::UA_S_FALSE);
    return ArrayFailure(execRtn);
}

MerrowReturnValue PersistantDataManager::Guarded(const std::function<MerrowReturnValue()>& body) {
    try {
        return body();
    } catch (const ReturnCodeException& e) {
        return e.getReturnValue();
    } catch (const cim::CIMException& e) {
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT) << e.what() << MWENDREC;
    } catch (const cim::CIMTransportException& e) {
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT) << e.what() << MWENDREC;
    } catch (const MWExceptionAbstractClass& e) {
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT) << e.getMessage() << MWENDREC;
    } catch (...) {
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT) << " Run-time exception caught!" << MWENDREC;
    }
    return MerrowReturnValue(MerrowReturnValue::UA_E_UNEXPECTED);
}

} // namespace Merrow::UserAgent

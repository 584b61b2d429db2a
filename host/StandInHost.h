#pragma once
// Loads a plugin the way the chat host does: the host API library first,
// then the plugin file, whose two exports are found by their real names.
#include <optional>
#include <string>
#include <vector>

#include "platform/DynamicLibrary.h"
#include "platform/Export.h"

namespace jestlark {

struct RecordedPost {
    std::optional<std::string> groupId;  // nullopt: a null pointer was posted
    std::optional<std::string> message;
};

// A handler argument; nullopt is passed as a null pointer.
using HostArgument = std::optional<std::string>;

class StandInHost {
public:
    // Empty error() on success.
    StandInHost(const std::string& pluginPath, const std::string& apiLibraryPath);

    const std::string& Error() const { return error_; }
    // null when the export returned null
    const char* Info();
    const char* Handle(const HostArgument& first, const HostArgument& kind, const HostArgument& groupId,
                       const HostArgument& fourth, const HostArgument& fifth);
    std::vector<RecordedPost> Posts() const;
    void ClearPosts();

private:
    using InfoExport = const char*(JESTLARK_STDCALL*)();
    using HandlerExport = const char*(JESTLARK_STDCALL*)(const char*, const char*, const char*,
                                                              const char*, const char*);
    DynamicLibrary api_;
    DynamicLibrary plugin_;
    InfoExport info_ = nullptr;
    HandlerExport handler_ = nullptr;
    std::string error_;
};

// The export name of the handler: 笑话搜索 in GBK.
extern const char* const HandlerExportName;

}  // namespace jestlark

#include "host/StandInHost.h"

#include <cstddef>

namespace jestlark {
namespace {

const char* Pointer(const HostArgument& argument) { return argument ? argument->c_str() : nullptr; }

std::optional<std::string> Copy(const char* text) {
    if (!text) return std::nullopt;
    return std::string(text);
}

using PostCount = std::size_t(JESTLARK_STDCALL*)();
using PostAt = bool(JESTLARK_STDCALL*)(std::size_t, const char**, const char**);
using PostsClear = void(JESTLARK_STDCALL*)();

}  // namespace

const char* const HandlerExportName = "\xD0\xA6\xBB\xB0\xCB\xD1\xCB\xF7";

StandInHost::StandInHost(const std::string& pluginPath, const std::string& apiLibraryPath) {
    api_ = DynamicLibrary::Load(apiLibraryPath);
    if (!api_) {
        error_ = "cannot load the host API library " + apiLibraryPath;
        return;
    }
    plugin_ = DynamicLibrary::Load(pluginPath);
    if (!plugin_) {
        error_ = "cannot load the plugin " + pluginPath;
        return;
    }
    info_ = reinterpret_cast<InfoExport>(plugin_.Find("info"));
    handler_ = reinterpret_cast<HandlerExport>(plugin_.Find(HandlerExportName));
    if (!info_ || !handler_) error_ = "the plugin lacks info or the handler export";
}

const char* StandInHost::Info() { return info_ ? info_() : nullptr; }

const char* StandInHost::Handle(const HostArgument& first, const HostArgument& kind,
                                const HostArgument& groupId, const HostArgument& fourth,
                                const HostArgument& fifth) {
    if (!handler_) return nullptr;
    return handler_(Pointer(first), Pointer(kind), Pointer(groupId), Pointer(fourth), Pointer(fifth));
}

std::vector<RecordedPost> StandInHost::Posts() const {
    std::vector<RecordedPost> posts;
    auto count = reinterpret_cast<PostCount>(api_.Find("standin_post_count"));
    auto at = reinterpret_cast<PostAt>(api_.Find("standin_post_at"));
    if (!count || !at) return posts;
    for (std::size_t i = 0, n = count(); i < n; ++i) {
        const char* groupId = nullptr;
        const char* message = nullptr;
        if (at(i, &groupId, &message)) posts.push_back(RecordedPost{Copy(groupId), Copy(message)});
    }
    return posts;
}

void StandInHost::ClearPosts() {
    if (auto clear = reinterpret_cast<PostsClear>(api_.Find("standin_posts_clear"))) clear();
}

}  // namespace jestlark

#include "plugin/HostApi.h"

#include <cstdint>
#include <mutex>

#include "platform/DynamicLibrary.h"
#include "platform/Export.h"

namespace jestlark {
namespace {

using GroupSend = int32_t(JESTLARK_STDCALL*)(const char* groupId, const char* message);

struct HostApi {
    std::mutex mutex;  // a host may hand messages over on several threads
    DynamicLibrary library;
    GroupSend groupSend = nullptr;
};

GroupSend FindGroupSend() {
    static HostApi api;
    std::lock_guard<std::mutex> lock(api.mutex);
    if (!api.groupSend) {
        if (!api.library) api.library = DynamicLibrary::Load(HostApiLibraryName());
        api.groupSend = reinterpret_cast<GroupSend>(api.library.Find("api_message_group_send"));
    }
    return api.groupSend;
}

}  // namespace

void PostToGroup(const Text& groupId, const Text& message) {
    if (GroupSend groupSend = FindGroupSend()) groupSend(groupId.c_str(), message.c_str());
}

}  // namespace jestlark

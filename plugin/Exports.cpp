// The plugin's face towards the host: the two exports and module start-up.
#include <cstdlib>

#include "platform/Export.h"
#include "plugin/JokeSearch.h"
#include "plugin/Manifest.h"
#include "plugin/ResultSlot.h"

namespace jestlark {
namespace {

ResultSlot manifestSlot;
ResultSlot replySlot;

// Handed to the host when even building a reply failed: never null.
const char emptyReply[] = "";

void ModuleUnload() {
    manifestSlot.Release();
    replySlot.Release();
}

bool ModuleStartup() { return std::atexit(ModuleUnload) == 0; }

// Runs when the module is loaded; atexit in a module runs at its unload.
const bool started = ModuleStartup();

}  // namespace
}  // namespace jestlark

extern "C" {

JESTLARK_EXPORT const char* JESTLARK_STDCALL info() {
    using namespace jestlark;
    try {
        return manifestSlot.Store(BuildManifest());
    } catch (...) {
        return emptyReply;
    }
}

JESTLARK_EXPORT const char* JESTLARK_STDCALL JokeSearchHandler(
    const char* first, const char* messageKind, const char* groupId, const char* fourth,
    const char* fifth) JESTLARK_EXPORT_AS("\xD0\xA6\xBB\xB0\xCB\xD1\xCB\xF7");

JESTLARK_EXPORT const char* JESTLARK_STDCALL JokeSearchHandler(
    const char* first, const char* messageKind, const char* groupId, const char* fourth,
    const char* fifth) {
    using namespace jestlark;
    try {
        Text reply;
        {
            // The host's memory is copied once and never referred to again.
            const Text a1 = Text::FromCString(first), a2 = Text::FromCString(messageKind),
                       a3 = Text::FromCString(groupId), a4 = Text::FromCString(fourth),
                       a5 = Text::FromCString(fifth);
            reply = JokeSearch(a1, a2, a3, a4, a5);
        }
        // Only now, after the handler (and any nested call) has returned, is the
        // previous reply released.
        return replySlot.Store(std::move(reply));
    } catch (...) {
        return emptyReply;
    }
}

}  // extern "C"

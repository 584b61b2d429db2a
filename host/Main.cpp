// jestlark-host: loads a plugin as the chat host does, prints its manifest,
// hands it the messages named on the command line and prints the replies and
// the posts it made.
//
//   jestlark-host PLUGIN [--api LIBRARY] [KIND GROUP TEXT]...
//
// An argument written @null is passed as a null pointer.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/StandInHost.h"
#include "platform/TerminalText.h"

namespace {

using jestlark::GbkToUtf8;
using jestlark::HostArgument;

HostArgument Argument(const char* text) {
    if (std::strcmp(text, "@null") == 0) return std::nullopt;
    return std::string(text);
}

std::string Shown(const char* text) { return text ? "\"" + GbkToUtf8(text) + "\"" : "(null)"; }
std::string Shown(const std::optional<std::string>& text) { return Shown(text ? text->c_str() : nullptr); }

std::string DefaultApiLibrary(const std::string& pluginPath) {
    const std::string::size_type slash = pluginPath.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? std::string() : pluginPath.substr(0, slash + 1);
    return folder + jestlark::HostApiLibraryName();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PLUGIN [--api LIBRARY] [KIND GROUP TEXT]...\n", argv[0]);
        return 2;
    }
    const std::string pluginPath = argv[1];
    std::string apiPath = DefaultApiLibrary(pluginPath);
    int next = 2;
    if (argc > 3 && std::strcmp(argv[2], "--api") == 0) {
        apiPath = argv[3];
        next = 4;
    }
    if ((argc - next) % 3 != 0) {
        std::fprintf(stderr, "each message is three arguments: KIND GROUP TEXT\n");
        return 2;
    }

    jestlark::StandInHost host(pluginPath, apiPath);
    if (!host.Error().empty()) {
        std::fprintf(stderr, "%s\n", host.Error().c_str());
        return 1;
    }

    std::printf("manifest:\n");
    const char* manifest = host.Info();
    std::printf("%s", manifest ? GbkToUtf8(manifest).c_str() : "(null)\n");

    for (int i = next; i + 2 < argc; i += 3) {
        host.ClearPosts();
        const char* reply = host.Handle(std::string(), Argument(argv[i]), Argument(argv[i + 1]),
                                        std::string("10000"), Argument(argv[i + 2]));
        std::printf("message kind=%s group=%s: reply %s\n", argv[i], argv[i + 1], Shown(reply).c_str());
        for (const jestlark::RecordedPost& post : host.Posts())
            std::printf("  posted to group %s: %s\n", Shown(post.groupId).c_str(), Shown(post.message).c_str());
    }
    return 0;
}

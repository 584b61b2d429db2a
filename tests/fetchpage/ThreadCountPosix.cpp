#include <dirent.h>

#include "tests/fetchpage/ThreadCount.h"

namespace jestlark::test {

int ThreadCount() {
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks) return -1;
    int count = 0;
    while (const dirent* entry = readdir(tasks)) {
        if (entry->d_name[0] != '.') ++count;
    }
    closedir(tasks);
    return count;
}

}  // namespace jestlark::test

#pragma once
// How many threads the test process has now.
namespace jestlark::test {
int ThreadCount();
}

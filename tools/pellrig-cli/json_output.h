#pragma once

#include <cstdio>

// A JSON value on standard output as --json prints it: indented, then a line break.
template <class Json>
void printJson(const Json& value) {
    std::printf("%s\n", value.dump(2).c_str());
}

// What the test programs share: folders and files, numbers to compare, and waiting for a condition.
#ifndef QUILLET_TEST_HARNESS_H
#define QUILLET_TEST_HARNESS_H

#include <windows.h>

#include <functional>
#include <string>

#include "tests/common/waves.h"

std::wstring FreshFolder(); // named after the running test, under %QUILLET_SCRATCH%
std::string ReadFileBytes(const std::wstring &path); // or "<missing>"
bool WriteFileBytes(const std::wstring &path, const std::string &bytes);
std::string Utf8(const std::wstring &text); // for failures a reader can read

// The numbers joined by spaces, to compare several at once and print them readably.
template <typename... T> std::string Values(T... values)
{
    std::string joined;
    ((joined += (joined.empty() ? "" : " ") + std::to_string(values)), ...);
    return joined;
}

// Handles this thread's messages until the condition holds, at most ms milliseconds; whether it held.
bool WaitFor(const std::function<bool()> &condition, DWORD ms);
void Pause(DWORD ms);

#endif

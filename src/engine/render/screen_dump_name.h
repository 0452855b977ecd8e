#pragma once
// Names of numbered screen dumps: the window title, the number with at least three digits, ".PNG". A '/' in
// the title would name a folder, so it becomes '_'.
#include <functional>
#include <string>
#include <string_view>

namespace engine {

constexpr int kMaxScreenDumps = 1000;

std::string ScreenDumpFileName(std::string_view title, int number);
// The first number from 1 to 1000 whose name `exists` denies, or 0 when every one is taken.
int NextScreenDumpNumber(std::string_view title, const std::function<bool(const std::string&)>& exists);

}  // namespace engine

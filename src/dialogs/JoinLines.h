#pragma once
// Builds the multi-line texts of the messages.
#include <initializer_list>
#include <string>
#include <vector>

// Every line, the last one included, followed by CR LF.
std::wstring JoinLines(std::initializer_list<std::wstring> Lines);
std::wstring JoinLines(const std::vector<std::wstring>& Lines);

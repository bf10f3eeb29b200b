#pragma once

#include <QString>

// Hands a document or web address to the application the user's desktop has for it and returns
// at once. Results above 32 mean it was handed over; 2 means the file does not exist (nothing is
// opened then), 31 that no application took it. Only the verbs "open" and none (the default
// action) exist here; parameters and directory are not used.
using HWND = unsigned long long;
constexpr int SW_SHOWNORMAL = 1;

int ShellExecuteA(HWND owner, const char* verb, const QString& file, const QString& parameters,
                  const QString& directory, int showCommand);

#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// Checks that must run in a process of their own, so that what they change about themselves
// (their user, their limits) stays there. The check's verdict comes back as the exit status.
enum class EChildResult { Passed, Failed, Skipped };

// As the unprivileged user nobody: tests run as root, and root opens and writes anything.
// Skipped where the child cannot become nobody.
EChildResult RunAsNobody(const std::function<bool()>& check);
// With every write failing past `bytes` in a file, as on a full disk.
EChildResult RunWithFileSizeLimit(std::size_t bytes, const std::function<bool()>& check);
// With at most `count` open descriptors.
EChildResult RunWithOpenFileLimit(std::size_t count, const std::function<bool()>& check);
// In a mount namespace of its own with a fresh tmpfs on each of `mountPoints`. Skipped where
// the child may not make one.
EChildResult RunWithTmpfsMounts(const std::vector<std::string>& mountPoints,
                                const std::function<bool()>& check);
// `count` children that start together, each given its number; Passed when every one passes.
EChildResult RunTogether(int count, const std::function<bool(int)>& check);

std::ostream& operator<<(std::ostream& out, EChildResult result);

// For a test whose set-up a library reads once per process (GIO, the desktop's configuration):
// runs the current test again, alone, in a fresh copy of the test program, and fails when it
// fails there. True in the test that started the copy; false in the copy, which runs the body.
bool RerunAlone();

#pragma once

#include <cstdlib>

namespace velorn::test
{

/** JUCE's LV2 hosting always loads the user's ~/.lv2 as well: a copy of
    Velorn installed there would be found beside the bundle under test, and
    two binaries of one plug-in in one process do not mix. Tests that host the
    built binaries (or run the tool that does) give themselves, and the
    processes they start, an empty home folder. */
inline bool useEmptyHomeFolder()
{
    char folder[] = "/tmp/velorn-checks-XXXXXX";
    return mkdtemp (folder) != nullptr && setenv ("HOME", folder, 1) == 0;
}

} // namespace velorn::test

#pragma once

#include <stdexcept>
#include <string>

namespace velorn::render
{

/** A failure the user can act on: printed as one line, exit code 1. */
struct RenderError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

/** A command line that does not parse: printed with a hint, exit code 2. */
struct UsageError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

} // namespace velorn::render

#pragma once

// The application's version strings, fixed by the build: the short version is the CMake project's
// version ("0.1.0"); the build number is the CMake cache variable VANTREL_BUILD_NUMBER, which a
// release build sets and which is "1" otherwise.
const char* applicationShortVersion();
const char* applicationBuildNumber();

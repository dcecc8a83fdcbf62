#include "shell/ApplicationVersion.h"

const char* applicationShortVersion() { return VANTREL_SHORT_VERSION; }

const char* applicationBuildNumber() { return VANTREL_BUILD_NUMBER; }

// The behaviours both toolkits share, run on native windows.
#include "toolkit_native/Fixture.h"
#include "toolkit_headless/SharedCases.h"

// The behaviours both toolkits share, run on the headless one.
#include "toolkit_headless/Fixture.h"
#include "toolkit_headless/SharedCases.h"

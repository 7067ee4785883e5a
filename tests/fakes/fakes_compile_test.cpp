// Keeps every fake compiling with the interfaces it stands in for.
#include "tests/fakes/fake_system.h"

#include "processstate.h"

ProcessState processState;

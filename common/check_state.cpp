#include "common/check_state.h"

CheckState checkState;

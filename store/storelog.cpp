#include "storelog.h"

Q_LOGGING_CATEGORY(lcStore, "skarn.store", QtInfoMsg)

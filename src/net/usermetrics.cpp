#include "net/usermetrics.h"

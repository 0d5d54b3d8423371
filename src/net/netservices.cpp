#include "net/netservices.h"

#include "net/qthttpconnection.h"

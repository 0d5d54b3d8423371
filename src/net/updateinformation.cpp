#include "net/updateinformation.h"

#include "taskapi/apiobject.h"

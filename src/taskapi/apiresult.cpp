#include "taskapi/apiresult.h"

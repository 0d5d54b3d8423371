#include "taskapi/taskapirequests.h"

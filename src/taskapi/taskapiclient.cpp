#include "taskapi/taskapiclient.h"

#pragma once

// The requests of the task service.
#include "taskapi/createaccountreq.h"
#include "taskapi/loginreq.h"
#include "taskapi/logoutreq.h"
#include "taskapi/statusreq.h"

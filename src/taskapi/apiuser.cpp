#include "taskapi/apiuser.h"

namespace taskapi {

ApiUser::~ApiUser() = default;

} // namespace taskapi

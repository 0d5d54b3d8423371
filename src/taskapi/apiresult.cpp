#include "taskapi/apiresult.h"

ApiResult::ApiResult(ApiResultCategory category, int httpStatus)
    : category(category)
    , httpStatus(httpStatus)
{
}

ApiResult ApiResult::fromHttpStatus(int httpStatus)
{
    return ApiResult(categoryOf(httpStatus), httpStatus);
}

ApiResultCategory ApiResult::categoryOf(int httpStatus)
{
    switch (httpStatus) {
    case 200:
        return ApiResultCategory::Ok;
    case 400:
        return ApiResultCategory::BadRequest;
    case 401:
        return ApiResultCategory::Unauthorized;
    case 403:
        return ApiResultCategory::Forbidden;
    case 404:
        return ApiResultCategory::NotFound;
    default:
        break;
    }
    if (httpStatus >= 500 && httpStatus <= 599)
        return ApiResultCategory::ServerError;
    return ApiResultCategory::Other;
}

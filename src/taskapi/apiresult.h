#pragma once

/// What kind of outcome a task service request had.
enum class ApiResultCategory {
    Other = 0,        ///< any status not listed below, or a request that could not be written
    Ok = 1,           ///< 200
    NetworkError = 2, ///< no connection, or the transfer failed
    BadRequest = 3,   ///< 400
    Unauthorized = 4, ///< 401
    Forbidden = 5,    ///< 403
    NotFound = 6,     ///< 404
    ServerError = 7,  ///< 500 to 599
};

/// The outcome of one task service request.
class ApiResult
{
public:
    ApiResult() = default;
    ApiResult(ApiResultCategory category, int httpStatus);

    /// The category of an HTTP status, with the status kept.
    static ApiResult fromHttpStatus(int httpStatus);
    static ApiResultCategory categoryOf(int httpStatus);

    bool isOk() const { return category == ApiResultCategory::Ok; }

    ApiResultCategory category = ApiResultCategory::Other;
    /// -1 when no response status applies.
    int httpStatus = -1;
};

#pragma once

#include "app/singleapplication.h"

class QSessionManager;

/// The program's application object.
class MrvApp : public SingleApplication
{
    Q_OBJECT
public:
    MrvApp(int& argc, char** argv, std::unique_ptr<InstanceLock> lock);

    /// The desktop asks the program to save before the session ends: settings and tasks are
    /// written at once.
    void commitData(QSessionManager& manager);
};

#include "ErrorLog.h"

ErrorLog::ErrorLog()
    : m_logMax(1048576), m_logPath("C:\\Log.log"), m_backupPath("C:\\Log.bak"), m_stamp() {}

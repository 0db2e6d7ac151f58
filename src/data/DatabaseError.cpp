#include "data/DatabaseError.h"

#include <firebird/Interface.h>

bool DatabaseError::isLockConflict() const {
    return m_gdsCode == isc_lock_conflict || m_gdsCode == isc_deadlock ||
           m_gdsCode == isc_update_conflict;
}

#include "db/connectionbackend.h"

namespace fee {

ConnectionBackend::~ConnectionBackend() = default;

} // namespace fee

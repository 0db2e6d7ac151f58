#include "GetUpdEndpoint.h"
#include "Service.h"

void registerEndpoints(Service& service) {
    const QString& data = service.dataDir();
    service.add(std::make_unique<GetUpdEndpoint>(data));
}

#include "GetUpdEndpoint.h"
#include "PtclEndpoint.h"
#include "Service.h"

void registerEndpoints(Service& service) {
    const QString& data = service.dataDir();
    service.add(std::make_unique<GetUpdEndpoint>(data));
    service.add(std::make_unique<PtclEndpoint>(data));
}

#include "AdPicEndpoint.h"
#include "AdvLftEndpoint.h"
#include "AdvTopEndpoint.h"
#include "GetUpdEndpoint.h"
#include "PtclEndpoint.h"
#include "ResultraEndpoint.h"
#include "Service.h"

void registerEndpoints(Service& service) {
    const QString& data = service.dataDir();
    const auto adverts = std::make_shared<const AdvertCatalog>();
    service.add(std::make_unique<GetUpdEndpoint>(data));
    service.add(std::make_unique<PtclEndpoint>(data));
    service.add(std::make_unique<AdvTopEndpoint>(data, adverts));
    service.add(std::make_unique<AdvLftEndpoint>(data, adverts));
    service.add(std::make_unique<AdPicEndpoint>(data, adverts));
    service.add(std::make_unique<ResultraEndpoint>(data));
}

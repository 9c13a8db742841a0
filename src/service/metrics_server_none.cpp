// A build without prometheus-cpp: the service runs as ever, but cannot serve --metrics.
#include "service/metrics_server.h"

namespace quillrun::service {

ServedMetrics ServeMetrics(const std::string& address) {
    return {nullptr, "--metrics " + address +
                         " cannot be served: this quillrun-service was built without "
                         "prometheus-cpp."};
}

}  // namespace quillrun::service

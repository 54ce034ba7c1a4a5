#pragma once

// The two web addresses a deliverable talks to. They are fixed at build time: the shipping build
// carries the product's hosts, the loopback build of the tests the servers on 127.0.0.1.
namespace common {

const char* CollectionUrl();
const char* UpgradeUrl();

}  // namespace common

// Qorvex's pictures live in a static library, whose resources Qt only finds
// once they have been registered; every class that draws one calls this.
#pragma once

void QorvexInitResources();

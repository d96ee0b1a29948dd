// The public key that the program checks the signatures of downloads with; the build
// passes it in (UpdatePublicKey, or the build's own key).
#include "update/Download.h"

const char kUpdatePublicKey[] = VOLDIX_UPDATE_PUBLIC_KEY;

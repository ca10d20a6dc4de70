// Tells Explorer that the file associations changed, so that the document
// icon and the opener show at once rather than after the next sign-in.
#pragma once

// SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr). The
// shell library is loaded only here: a document run never pays for it.
void NotifyAssociationChanged();

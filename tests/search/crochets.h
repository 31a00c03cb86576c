// Watches the memory calls of this test program by rewriting its own import
// table: GlobalFree is recorded with the lock count the block still had,
// local allocations are counted and can be made to fail, and both the blocks
// the scripted host hands out (seen by their locker through a copy) and the
// fixed local blocks end on an inaccessible page, so that a read past a block
// faults at once. A local block's new bytes are not zero unless LMEM_ZEROINIT
// asks for it.
#pragma once

#include <windows.h>
#include <vector>

struct Liberation {
    HGLOBAL h;
    UINT verrous;  // lock count at the moment of GlobalFree
};

// Installs the hooks; false if one of the calls is not imported.
bool crochets_installer();
void crochets_remise_a_zero();

// Watches a block the host hands out: its locks give the guarded copy (same
// size, same bytes) and its GlobalFree is recorded.
void crochets_surveiller(HGLOBAL h);
size_t blocs_surveilles();  // watched blocks not freed yet

extern std::vector<Liberation> liberations;  // GlobalFree of watched blocks
extern int liberations_invalides;            // GlobalFree of a handle already freed
extern int allocations_locales;              // LocalAlloc'd blocks not yet freed
extern int appels_locaux;                    // LocalAlloc and LocalReAlloc calls
extern int refus_local_des;  // from this call on (0 = the first), they fail; -1 never

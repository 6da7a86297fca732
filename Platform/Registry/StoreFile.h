#pragma once
#include <Platform/Registry/Registry.h>
#include <Platform/Registry/StoreTree.h>

#include <functional>
#include <string>

namespace Platform::Registry::Detail {

enum class ReadOutcome { Read, Missing, Corrupt, Unreadable };

// Reads the store file into `root`; for a Corrupt file, every entry that still reads.
ReadOutcome ReadStoreFile(const std::string& path, StoredKey& root);

// Under the store's lock: reads the file afresh, lets `change` edit it and, when it asks
// to, writes the result to a temporary file that is flushed and renamed over the old one.
// A corrupt file is edited as what could be read of it and kept beside the new one; an
// unreadable or read-only one is left alone. When the lock cannot be taken (a read-only
// folder), `change` still runs on a fresh read, and a rewrite it asks for fails.
// `change` returns Ok and sets `write` to request the rewrite.
Result UpdateStoreFile(const std::string& path, const std::function<Result(StoredKey& root, bool& write)>& change);

}  // namespace Platform::Registry::Detail

namespace strandel::host { const char* kHostName = "Strandel emulated host"; }

#pragma once
// A file that stands under its name only when whole. It is written under a hidden draft name
// beside its final name (".<name>.XXXXXX" in the same folder, so that the renaming never crosses
// file systems), every write checked; when complete it is flushed, synced to the disk, renamed
// into place, and its folder synced, so that even after a power cut the final name holds the
// whole file or what it held before. Any failure removes the draft, and so does a signal that
// ends the run (util/sinais).
#include <sys/types.h>

#include <cstdio>
#include <string>

// The permissions a new file of the run gets: read and write for all, less the umask.
mode_t PermissoesNovoArquivo();

class Rascunho {
  public:
    Rascunho() = default;
    // A draft that was not concluded is removed.
    ~Rascunho();
    Rascunho(const Rascunho&) = delete;
    Rascunho& operator=(const Rascunho&) = delete;

    // Makes the draft of `final` with the permissions `modo`. False, with the reason in erro(),
    // when it cannot be made.
    bool Abre(const std::string& final, mode_t modo);
    // The stream the file is written to: buffered, and each of its writes to the draft checked.
    std::FILE* fluxo() const { return fluxo_; }
    // The draft's descriptor, for what only a descriptor can ask (room on the disk).
    int descritor() const { return fd_; }
    // The draft takes its final name. False, with the reason in erro() and the draft removed,
    // when a write, the flush, the sync, the close, the renaming or the folder's sync failed.
    bool Conclui();
    // Closes and removes the draft.
    void Descarta();

    bool aberto() const { return fluxo_ != nullptr; }
    // The errno value of the first failure, 0 while there is none.
    int erro() const { return erro_; }
    // Bytes written to the draft so far.
    long long bytes() const { return bytes_; }
    const std::string& final() const { return final_; }

  private:
    static ssize_t EscreveNoRascunho(void* rascunho, const char* dados, std::size_t tamanho);
    bool Falha(int erro);
    void Fecha();

    std::string final_;
    std::string rascunho_;
    std::FILE* fluxo_ = nullptr;
    int fd_ = -1;
    int erro_ = 0;
    long long bytes_ = 0;
    bool descartando_ = false;
};

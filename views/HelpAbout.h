// HELPABOUT: the about box "über dieses Programm". Program, version, installation mode
// and contact block, the operating system, runtime, volume and program folder, and the
// memory and screen figures, refreshed every second while the box is open.
#pragma once

#include "core/Services.h"
#include "views/Windows.h"

#include <array>
#include <cstdint>
#include <string>

namespace arti {

enum class AboutCtl {
    TEXT1,    // information text
    TXTEMAIL, // hidden: the contact address
    TXT11,    // operating system
    TXT12,    // runtime version
    TXT13,    // volume of the current drive
    TXT14,    // program folder
    TXT1,     // total physical memory, MB
    TXT2,     // available physical memory, MB
    TXT3,     // memory load, %
    TXT4,     // total page file, MB
    TXT5,     // available page file, MB
    TXT6,     // total virtual address space, MB
    TXT7,     // available virtual address space, MB
    TXT21,    // memory reserved by the allocator, MB
    TXT22,    // memory in use by the allocator, MB
    TXT23,    // free system resources, %
    TXT24,    // garbage collections
    TXT25,    // primary screen "w x h"
    TXT26,    // number of monitors
    TXT27,    // virtual screen "w x h"
    Count
};
const char* aboutControlName(AboutCtl c);

class IAboutView {
public:
    virtual ~IAboutView() = default;
    // Text of a control (Windows-1252; the lines of TEXT1 are separated by CR).
    virtual void setText(AboutCtl c, const std::string& text) = 0;
    virtual void endDialog() = 0;
};

class HELPABOUT {
public:
    // F1: help file "QZ1", topic "Ueber".
    static constexpr const char* kHelpPage = "QZ1_Ueber.html";
    static constexpr const char* kMaker = "MERIX Software GmbH";
    static constexpr const char* kTelephone = "+49 (0)30 23125 000";
    static constexpr const char* kEmail = "info@merix.invalid";
    static constexpr unsigned kRefreshMs = 1000;

    // `main` opens the mail client; may be null (the shell is asked directly then). The
    // figures come from resourceMeter() and screenMetrics().
    explicit HELPABOUT(IMainWindowLink* main = nullptr) : main_(main) {}
    ~HELPABOUT();
    HELPABOUT(const HELPABOUT&) = delete;
    HELPABOUT& operator=(const HELPABOUT&) = delete;

    void attachView(IAboutView* view) { view_ = view; }
    Owner owner() const { return this; }

    void POSTINIT();
    void VIEWMEMORY();
    void TIMER() { VIEWMEMORY(); }
    void PSHEMAIL();
    void PSHCANCEL();

    // The operating system from the registry's CurrentVersion keys, the 64-bit view
    // first; empty when neither has a product name.
    static std::string GETWINOSREG(Owner owner);
    // Bytes as MB with three decimals, right-aligned in 7 characters (never cut).
    static std::string megabytes(std::uint64_t bytes);

    const std::string& text(AboutCtl c) const { return texts_[static_cast<std::size_t>(c)]; }
    TimerId timer() const { return timer_; }
    bool ended() const { return ended_; }

private:
    void show(AboutCtl c, const std::string& text);
    void stopTimer();

    IMainWindowLink* main_;
    IAboutView* view_ = nullptr;
    std::array<std::string, static_cast<std::size_t>(AboutCtl::Count)> texts_;
    TimerId timer_ = 0;
    bool ended_ = false;
};

} // namespace arti

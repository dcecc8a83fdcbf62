#pragma once

// What platform the game runs on. This is the desktop build: only isOSX answers true, and the
// phone, tablet and high-resolution layout branches never apply.
class PlatformUtils {
public:
    // Made once, on first use, from any thread.
    static PlatformUtils* sharedInstance();

    bool isIPhone() const { return isIPhone_; }
    bool isIPad() const { return isIPad_; }
    bool isRetina() const { return isRetina_; }
    bool isIPhone5() const { return isIPhone5_; }
    bool isIPad1() const { return isIPad1_; }
    bool isIPad2() const { return isIPad2_; }
    bool isIPad3() const { return isIPad3_; }
    bool isIOS() const { return isIOS_; }
    bool isOSX() const { return isOSX_; }
    void dumpPlatformInfo() const {}

private:
    PlatformUtils() = default;

    bool isIPhone_ = false;
    bool isIPad_ = false;
    bool isRetina_ = false;
    bool isIPhone5_ = false;
    bool isIPad1_ = false;
    bool isIPad2_ = false;
    bool isIPad3_ = false;
    bool isIOS_ = false;
    bool isOSX_ = true;
};

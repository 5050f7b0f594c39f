#pragma once
// Program-wide values that live for the whole run, owned by the start-up window (Form1) and the desk
// calendar (Form3); other windows read and write them directly.
#include <cstdint>
#include <string>

struct Form1State {
    std::string szfilename; // full path of the settings file
    std::string password;   // the diary key (settings line 1)
    std::string password3;  // the access password (settings line 2)
    std::string MRURL;      // default web address (settings line 3)
    bool mryy = false;      // remember the typed access password for this run
    std::string password2;  // the remembered password; never written to disk
};

struct Form3State {
    int16_t dss = 0;           // memo-check interval in minutes; 0 or below never checks
    std::string dshh = "--";   // alarm hour "00".."23", "--" when no alarm is set
    std::string dsmm = "--";   // alarm minute "00".."59" or "--" (minute 0)
    bool txyybz = true;        // music flag: false makes the next memo-check tick stop the tune
    int64_t reminderTicks = 0; // seconds counted towards the next memo check; wide, so it never overflows
    int alarmDay = 0;          // yyyymmdd the alarm was set for (0: not known), so it never rings a day late
};

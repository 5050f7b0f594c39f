#pragma once
// The holiday table as the command-line tool sees it: the delivered table beside the program, overridden by
// the data folder's file (the data folder must be entered). Problems with the files are told on stderr.
class HolidayCalendar;
const HolidayCalendar& cliHolidays();
// Says once per year, on stderr, that the arrangement of a year outside the table is not known yet.
void cliTellUnknownYear(int year);

#pragma once
// The date-time convention of the stored data and of the in-memory tables:
// a double holding days since 30 December 1899, the time of day as fraction.
#include <QDate>
#include <QDateTime>

using TDateTime = double;

// Day 0 of the convention.
QDate DayZero();

// Whole days since day 0 (negative before it).
qint64 DayNumber(const QDate& date);

// Today's day number (the whole part of the current date-time).
qint64 TodayDayNumber();

TDateTime ToTDateTime(const QDateTime& dt);
// Local wall-clock time, milliseconds rounded to the nearest millisecond.
QDateTime FromTDateTime(TDateTime value);

// Builds a date-time from its parts; false when they do not form a valid
// date and time (month 13, 31 February, hour 24, ...).
bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                       int msec, QDateTime& out);

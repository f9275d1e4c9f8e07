// The two web pages the game-over panel and the wrong-answer screen point to.
#pragma once

// A free online course on antennas, receivers and radio signals.
inline constexpr char kCourseLinkAddress[] =
    "https://ocw.mit.edu/courses/6-661-receivers-antennas-and-signals-spring-2003/";
// The publisher's page of a standard textbook on antenna theory.
inline constexpr char kBookLinkAddress[] =
    "https://www.wiley.com/en-us/Antenna+Theory%3A+Analysis+and+Design%2C+4th+Edition-p-9781118642061";

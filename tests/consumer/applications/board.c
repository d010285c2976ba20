/* Reads nothing revstamp writes: a new stamp must not compile it again. */
const int board_leds = 4;

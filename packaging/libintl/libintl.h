/* A libintl that translates nothing. GLib insists on linking one, and the game shows no
   GLib message a player would read, so every call hands its message back unchanged. The
   format_arg attributes tell the compiler the result is the same format string, which
   GLib's format warnings (errors in its build) rely on. */
#ifndef ORBILUX_LIBINTL_H
#define ORBILUX_LIBINTL_H

#ifdef __cplusplus
extern "C" {
#endif

char *gettext(const char *msgid) __attribute__((format_arg(1)));
char *dgettext(const char *domain, const char *msgid) __attribute__((format_arg(2)));
char *dcgettext(const char *domain, const char *msgid, int category) __attribute__((format_arg(2)));
char *ngettext(const char *msgid, const char *plural, unsigned long n)
    __attribute__((format_arg(1))) __attribute__((format_arg(2)));
char *dngettext(const char *domain, const char *msgid, const char *plural, unsigned long n)
    __attribute__((format_arg(2))) __attribute__((format_arg(3)));
char *dcngettext(const char *domain, const char *msgid, const char *plural, unsigned long n, int category)
    __attribute__((format_arg(2))) __attribute__((format_arg(3)));
char *textdomain(const char *domain);
char *bindtextdomain(const char *domain, const char *dirname);
char *bind_textdomain_codeset(const char *domain, const char *codeset);

#ifdef __cplusplus
}
#endif

#endif

# shellcheck shell=sh
# %systemd_user_post: on the first install, the user timer is enabled for
# every user as the presets say (80-sorvane-gui.preset: enable).
if [ "$1" -eq 1 ] && command -v systemctl >/dev/null 2>&1; then
    systemctl --no-reload --preset-mode=enable-only --global preset sorvane-update-notify.timer || :
fi
# %sysusers_create_compat: sorvane-check, the user root's checks run as.
if command -v systemd-sysusers >/dev/null 2>&1; then
    systemd-sysusers /usr/lib/sysusers.d/sorvane-gui.conf || :
fi

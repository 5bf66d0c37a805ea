# shellcheck shell=sh
# %systemd_user_preun: on the last removal, the user timer is disabled for
# every user.
if [ "$1" -eq 0 ] && command -v systemctl >/dev/null 2>&1; then
    systemctl --no-reload --global disable sorvane-update-notify.timer || :
    # %systemd_preun: the metrics timer, if an administrator enabled it.
    systemctl --no-reload disable --now sorvane-metrics.timer >/dev/null 2>&1 || :
fi
